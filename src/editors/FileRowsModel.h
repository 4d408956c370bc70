#pragma once

#include "RowMapModel.h"
#include "TGTASFile.h"

class TGTAFileList;

// The rows of an editor's file list: the files of one kind in the game file list. Column
// "Index" is the file's position in the list, "Filename" its name, marked " *" while it
// has unsaved changes.
class FileRowsModel : public RowMapModel {
    Q_OBJECT
public:
    FileRowsModel(FileKind kind, QObject* parent);

    void setFileList(const TGTAFileList* files) { m_files = files; }
    // Rows for every file of the kind, in list order.
    void rebuild();
    // Drops the file's row, before the file leaves the list.
    void dropFile(int file);
    // Files left the list: rows of files no longer there go, the others take their files'
    // new positions. Calling it again for the same removal changes nothing.
    void followFiles();
    // "Index" by position, "Filename" by the name without its folder, without regard to case.
    void sortBy(int column, Qt::SortOrder order);

protected:
    QString text(int entry, int row, int column) const override;

private:
    const TGTASFile* file(int entry) const;
    // The files of the rows, in row order: what the rows follow when positions change.
    void rememberFiles();

    FileKind m_kind;
    const TGTAFileList* m_files = nullptr;
    std::vector<const TGTASFile*> m_shown;
};
