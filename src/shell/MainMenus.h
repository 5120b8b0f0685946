#pragma once

namespace endomira {

// The main window's seven menu commands (doctors, patients, new examination, exam review,
// system configuration, about, exit), reachable from the child windows it hosts without their
// knowing the main window: a child disables them while it works and enables them when it closes.
class IMainMenus {
public:
    virtual ~IMainMenus() = default;
    virtual void DisableMenus() = 0;
    virtual void EnableMenus() = 0;
};

// The main window registers itself for its lifetime; without one both calls do nothing.
void SetMainMenus(IMainMenus* menus);
IMainMenus* MainMenus();
void DisableMenus();
void EnableMenus();

} // namespace endomira
