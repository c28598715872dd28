#pragma once
// The host's beep, message box and message pump, installed through the
// static setters of CTaviSpec. Every beep and message of the library goes
// through here.

struct GretagStruct;

namespace lt {

void beep(unsigned long frequencyHz, unsigned long durationMs);
// caption null: the host's default caption.
void showMessage(const char* text, const char* caption);
void pumpMessages();
// The fetch observer around GretagExecRemission.
void observeFetch(const GretagStruct* g, bool done, unsigned long result);

} // namespace lt
