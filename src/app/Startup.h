#pragma once

class QApplication;

// The start-up procedure: refuses a second copy, otherwise starts the window
// and runs the program until it is shut down. Returns the exit code.
int runTarnel(QApplication& app);

// Loads Qt's own Japanese translation, so the standard buttons read "はい",
// "いいえ" and "キャンセル" like the rest of the window.
void installJapaneseTranslation(QApplication& app);
