#include "app/AboutText.h"

MakerLines makerLines()
{
    return {QStringLiteral(KTR_COPYRIGHT_EN), QStringLiteral(KTR_COPYRIGHT_CN), QStringLiteral(KTR_WEB_ADDRESS)};
}

QString buildTime() { return QStringLiteral(__TIME__); }
QString buildDate() { return QStringLiteral(__DATE__); }

QString aboutText(int languageIndex, const QString& time, const QString& date, const MakerLines& maker)
{
    const bool chinese = languageIndex == 0;
    const QString format = chinese ? QStringLiteral("%1\n\n编译时间 : %2 , %3\n\n") : QStringLiteral("%1\n\nCompiled at : %2 , %3\n\n");
    return format.arg(QLatin1String(kVersionCaption), time, date)
           + (chinese ? maker.copyrightChinese : maker.copyrightEnglish) + QStringLiteral("\n\n") + maker.webAddress
           + QLatin1Char('\n');
}
