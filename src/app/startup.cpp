#include "startup.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTextCodec>
#include <QTranslator>

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

bool installQtTranslations(QCoreApplication &application, const QString &directory)
{
    auto *const translator = new QTranslator(&application);
    // The program speaks Russian only, so Qt's texts are Russian too rather than the locale's.
    if (translator->load(QStringLiteral("qtbase_ru"), directory) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}
