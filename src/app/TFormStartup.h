#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The first window of every run: the list of known game installations (GAMES.TXT, or the
// games' registry keys when there is no such file), the level of detail, whether textures
// are loaded and a rough memory estimate. Choosing an entry sets the program-wide settings;
// Launch or Exit hides the window, which saves the list.
class TFormStartup : public QWidget {
    Q_OBJECT
public:
    explicit TFormStartup(QWidget* parent = nullptr);

    QListWidget* box_games = nullptr;
    QLineEdit* gamename = nullptr;
    QGroupBox* ModelGroup = nullptr;
    QRadioButton* ModelGroupCubes = nullptr;
    QRadioButton* ModelGroupModels = nullptr;
    QCheckBox* box_txd = nullptr;
    QLabel* MemoryLabel = nullptr;
    QLabel* MemoryValue = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* LaunchButton = nullptr;
    QPushButton* ExitButton = nullptr;

    // The comma-text line of every row, in list order.
    const std::vector<std::string>& gameLines() const { return m_lines; }

    // Sets the program-wide settings from the selected row and the options. False when the
    // row does not hold a directory and a description; with no row selected, the first row
    // is selected and nothing else happens.
    bool ApplySelection();

    void box_gamesClick();
    void ModelGroupClick();
    void box_txdClick();
    void gamenameChange();
    void BitBtn1Click();
    void BitBtn2Click();
    void LaunchButtonClick();
    void ExitButtonClick();

signals:
    // The window was hidden and the list saved: the start-up is over.
    void finished();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormShow();
    void FormHide();
    void addRow(const std::string& line);
    void selectRow(int row);

    std::vector<std::string> m_lines;
};

// The estimate shown for a choice: "30 - 380 Mb", "60 Mb" ...
QString memoryEstimateText(bool viceCity, bool models, bool textures);

// The game directory of a list entry: with the platform's separator at its end.
std::string gameDirectoryOf(std::string_view field);

// Shows the start-up window and processes events until it is hidden. True when the user
// launched a game.
bool runStartupWindow();
