#pragma once

class QAction;

// A tool window shown and hidden by an action of the main window; it unchecks that action
// when it closes.
class MenuActionWindow {
public:
    virtual ~MenuActionWindow() = default;
    virtual void SetMenuAction(QAction* action) = 0;
};
