#pragma once

#include <QString>

// Asks for the game directory through the dialog service's folder picker, refusing folders
// that do not hold an installation: of the current game, or of either game while a game is
// being added in the start-up window.
class TDirDialog {
public:
    TDirDialog();                       // validation on
    explicit TDirDialog(bool validate);

    QString Title;
    QString DirName; // set when the user confirms

    bool Execute();

    // The OK rule for one folder, as the picker applies it.
    bool Acceptable(const QString& folder) const;

    static bool HoldsViceCity(const QString& folder);
    static bool HoldsGTA3(const QString& folder);

private:
    bool m_validate = true;
};
