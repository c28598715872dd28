#pragma once
// What each button of the main window does, in a line an operator reads in
// its tooltip. One table for every page, keyed by the button's caption.
class QString;
class QWidget;

// The tooltip of the button with this caption; empty for an unknown one.
QString buttonTip(const QString& caption);

// Gives every button under root that has no tooltip yet the one of its caption.
void addButtonTips(QWidget* root);
