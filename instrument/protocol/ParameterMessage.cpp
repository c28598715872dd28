#include "instrument/protocol/ParameterMessage.h"

namespace lt {

namespace {

char filterCode(std::uint8_t filter)
{
    switch (filter) {
    case 1:
        return '1';
    case 2:
        return '2';
    case 3:
        return '3';
    case 4:
        return '8';
    default:
        return '0';
    }
}

char illuminantCode(std::uint8_t illuminant, IlluminantCoding coding)
{
    switch (illuminant) {
    case 1:
        return '0';
    case 2:
        return '1';
    case 3:
        return '2';
    case 4:
        return '3';
    case 5:
        return '8';
    default:
        return coding == IlluminantCoding::Command ? '2' : '0';
    }
}

} // namespace

Message parameterMessage(const GretagStruct& g, IlluminantCoding coding)
{
    Message message(";160");
    message.append(filterCode(g.Filter)).append('0');
    message.append(g.ExtraOption == 1 ? '1' : '0').append('0');
    message.append(illuminantCode(g.Illuminant, coding)).append('0');
    message.append(g.Observer == 1 ? '1' : '0');
    return message.endLine();
}

} // namespace lt
