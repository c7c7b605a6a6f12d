#include "globals.h"

namespace ExtensionSystem {

namespace {
std::string &languageStorage()
{
    static std::string language = "en";
    return language;
}

bool &presentationModeStorage()
{
    static bool presentationMode = false;
    return presentationMode;
}
} // namespace

std::string Globals::getLanguage()
{
    return languageStorage();
}

void Globals::setLanguage(const std::string &language)
{
    languageStorage() = language.empty() ? std::string("en") : language;
}

bool Globals::getPresentationMode()
{
    return presentationModeStorage();
}

void Globals::setPresentationMode(bool on)
{
    presentationModeStorage() = on;
}

} // namespace ExtensionSystem
