#pragma once
// The "Help" menu's two windows: "Getting started" (the first measurement
// step by step) and "About" (version, build, Qt version and licences).
class QString;
class QWidget;

// The texts, for the windows and their tests.
QString gettingStartedText();
QString aboutText();

void showGettingStarted(QWidget* parent);
void showAbout(QWidget* parent);
