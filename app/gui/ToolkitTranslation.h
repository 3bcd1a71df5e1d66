#pragma once
// Qt's own texts (the buttons of message boxes, the file dialogs, the
// context menus of text fields) in the program's language, from the
// toolkit's translation catalogues, swapped at each language switch.

#include <QTranslator>

class ToolkitTranslation {
public:
    ~ToolkitTranslation();
    // 0 Simplified Chinese, 1 Traditional Chinese: that catalogue; 2 English:
    // none. False when the catalogue is not installed (the texts then stay
    // English).
    bool apply(int languageIndex);
    bool installed() const { return installed_; }

private:
    QTranslator translator_;
    bool installed_ = false;
    int language_ = -1;
};
