#include "AppCopy.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace AppCopy {

void install()
{
    static QPointer<QTranslator> translator;
    if (translator)
        return;
    translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(u":/i18n/jumplet_en.qm"_s))
        QCoreApplication::installTranslator(translator);
}

QString text(const char* key)
{
    return qtTrId(key);
}

namespace Profiles {

QString defaultName()
{
    return text("profiles.defaultName");
}

QString copyName(const QString& profileName)
{
    return text("profiles.copyName").arg(profileName);
}

} // namespace Profiles

} // namespace AppCopy
