#include "settings/appsettings.h"

AppSettings &Settings()
{
    static AppSettings settings;
    return settings;
}
