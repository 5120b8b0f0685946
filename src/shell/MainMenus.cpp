#include "MainMenus.h"

namespace endomira {

namespace {

IMainMenus* gMenus = nullptr;

} // namespace

void SetMainMenus(IMainMenus* menus) {
    gMenus = menus;
}

IMainMenus* MainMenus() {
    return gMenus;
}

void DisableMenus() {
    if (gMenus != nullptr) {
        gMenus->DisableMenus();
    }
}

void EnableMenus() {
    if (gMenus != nullptr) {
        gMenus->EnableMenus();
    }
}

} // namespace endomira
