#pragma once

class QApplication;

// The start-up procedure: refuses a second copy, otherwise loads the window
// and runs the program until the window is unloaded. Returns the exit code.
int Main(QApplication& app);

// Loads Qt's own Japanese translation, so the standard buttons read "はい",
// "いいえ" and "キャンセル" like the rest of the window.
void installJapaneseTranslation(QApplication& app);
