#pragma once

#include "extensionsystem_global.h"

#include <string>

namespace ExtensionSystem {

// Application-wide settings that the host owns and plug-ins read.
class EXTENSIONSYSTEM_EXPORT Globals
{
public:
    // Two-letter code of the user interface language ("en", "de"); "en" until the host sets it.
    static std::string getLanguage();
    static void setLanguage(const std::string &language);

    // Presentation mode hides editing panels so that only the charts are shown.
    static bool getPresentationMode();
    static void setPresentationMode(bool on);
};

} // namespace ExtensionSystem
