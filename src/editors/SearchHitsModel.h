#pragma once

#include "MapSearch.h"
#include "RowMapModel.h"

#include <string_view>
#include <vector>

class TGTAFileList;

// The rows of the find window's result list: one per hit, with the hit's kind, file, ID,
// model, dictionary and (for placements) position. Rows map to the hits, so sorting
// reorders numbers only and each text is made when its row is painted.
class SearchHitsModel : public RowMapModel {
    Q_OBJECT
public:
    enum Column { KindColumn, FileColumn, IDColumn, ModelColumn, DictionaryColumn, PositionColumn };

    explicit SearchHitsModel(QObject* parent = nullptr);

    void setFileList(const TGTAFileList* files) { m_files = files; }
    // The hits shown, in the order found.
    void show(std::vector<SearchHit> hits);
    const std::vector<SearchHit>& hits() const { return m_hits; }
    // The hit of a row; nullptr outside the list.
    const SearchHit* hitAt(int row) const;
    void sortBy(int column, Qt::SortOrder order);

protected:
    QString text(int entry, int row, int column) const override;

private:
    QString fileName(int file) const;
    std::string_view storedName(int file) const;

    const TGTAFileList* m_files = nullptr;
    std::vector<SearchHit> m_hits;
};
