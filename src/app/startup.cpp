#include "startup.h"

#include <QDebug>
#include <QTextCodec>

void ensureCyrillicLocaleCodec()
{
    if (!QTextCodec::codecForLocale()->canEncode(QStringLiteral("Ж")))
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void logStartBanner()
{
    qDebug() << "############################# Application loaded ##############################";
    qDebug() << "Version" << MORVELL_VERSION;
}
