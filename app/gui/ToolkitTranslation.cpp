#include "app/gui/ToolkitTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

ToolkitTranslation::~ToolkitTranslation()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
}

bool ToolkitTranslation::apply(int languageIndex)
{
    if (languageIndex == language_)
        return languageIndex == 2 || installed_;
    language_ = languageIndex;
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
    }
    const char* catalogue = languageIndex == 0 ? "qtbase_zh_CN" : languageIndex == 1 ? "qtbase_zh_TW" : nullptr;
    if (!catalogue)
        return true;
    if (!translator_.load(QLatin1String(catalogue), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    installed_ = QCoreApplication::installTranslator(&translator_);
    return installed_;
}
