#pragma once

#include "RowMapModel.h"
#include "TGTASFile.h"

class TGTAFileList;
struct RecordSection;

// The rows of an editor's record list: the records of one section of one file, their texts
// and sort keys given by the section's table entry. The file is held by its position, so a
// file removed from the list is never read through a stale pointer.
class RecordRowsModel : public RowMapModel {
    Q_OBJECT
public:
    RecordRowsModel(FileKind kind, QObject* parent);

    void setFileList(TGTAFileList* files) { m_files = files; }
    // Rows 0 .. count - 1 of the section in the file; no rows without a file or section.
    void show(int file, const RecordSection* section);
    // The shown file moved to another position in the list; the rows stay.
    void fileMoved(int file) { m_file = file; }
    void sortBy(int column, Qt::SortOrder order);

    TGTASFile* file() const;
    int recordCount() const;

protected:
    QString text(int entry, int row, int column) const override;

private:
    FileKind m_kind;
    TGTAFileList* m_files = nullptr;
    int m_file = -1;
    const RecordSection* m_section = nullptr;
};
