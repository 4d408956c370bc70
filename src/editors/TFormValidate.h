#pragma once

#include "FixPolicy.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class MapDocument;
class QAction;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TGTA3Archive;
class TGTAFileList;

// The validation window: runs the whole-map checks on the loaded game, shows a status row
// per section and check and the report, one line per finding, and repairs what it can
// when asked. Reports the files its repairs change by signals.
class TFormValidate : public QWidget {
    Q_OBJECT
public:
    // `archive` (the main archive) and `view` (the 3D view, for the first placement) may be null.
    // A run with fixes is one step of the document.
    TFormValidate(MapDocument& document, TGTA3Archive* archive, QWidget* view, QWidget* parent = nullptr);

    // The document a run with fixes changes the files through, as one step.

    void BtnStartClick();
    void BtnCopyClick();

    // Row images of `ListStatus`, as stored in each row's user data.
    static int rowImage(const QTreeWidgetItem* row);

    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QLabel* ModeValue = nullptr;
    QLabel* ResultValue = nullptr;
    QPlainTextEdit* ListResult = nullptr;
    QTreeWidget* ListStatus = nullptr;
    QCheckBox* box_fix = nullptr;
    QPushButton* BtnStart = nullptr;
    QPushButton* BtnCopy = nullptr;

    bool Running = false;

protected:

private:
    class StatusRows;

    std::optional<FixPolicy> chooseFixPolicy();
    void setRowImage(QTreeWidgetItem* row, int image);
    void showResult(bool failed, const QString& text);

    MapDocument* m_document;
    TGTAFileList* m_files;
    TGTA3Archive* m_archive;
    QWidget* m_view;
    QStringList m_lines; // the report as shown, for the clipboard
};
