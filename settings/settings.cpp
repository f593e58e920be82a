#include "settings.h"

#include "version.h"

namespace lexorne::settings {

Store::Store()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kOrganization),
                 QString::fromLatin1(kApplicationTitle))
{
}

} // namespace lexorne::settings
