#pragma once

#include "DefinitionContext.h"
#include "SparseText.h"
#include "TGTASContainer.h"
#include "TextParser.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Fields shared by objs and tobj definitions.
struct TGTASObjsObj {
    int32_t ID = 0;
    std::string ModelName;
    std::string TextureName;
    int32_t MeshCount = 1;
    float DrawDistance = 0.0f;
    // Draw distances after the first, on lines that carry one per mesh ("2, 20, 70").
    std::vector<float> ExtraDrawDistances;
    int32_t Flags = 0;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;
    int32_t ModelIndex = -1;   // model index in the archive set, -1 = not looked up
    int32_t TextureIndex = -1; // texture dictionary index in the archive set, -1 = none
    int32_t ArrayIndex = 0;    // own position, stored when the ID index is built

    bool operator==(const TGTASObjsObj&) const = default;
};

// Operations shared by the objs and tobj containers: texture lookups and the ID index.
template <typename Record>
class TGTASDefinitions : public TGTASRecords<Record> {
public:
    using TGTASRecords<Record>::Items;

    // Positions of the records sorted by ascending ID, as they were when it was built.
    std::optional<std::vector<int>> IDIndex;

    void SetContext(const DefinitionContext* context) { m_context = context; }
    const DefinitionContext* Context() const { return m_context; }

    void ResolveTexture(int pos)
    {
        if (!this->IsValidIndex(pos))
            return;
        Record& record = Items[pos];
        record.TextureIndex = (record.TextureName.empty() || !m_context)
            ? -1
            : m_context->FindTextureDictionary(record.TextureName);
    }

    void ResolveAllTextures()
    {
        for (int pos = 0; pos < this->Count(); ++pos)
            ResolveTexture(pos);
    }

    // An archive entry was added or deleted: records using that dictionary look again.
    void TextureEntryChanged(std::string_view entryName)
    {
        for (int pos = 0; pos < this->Count(); ++pos) {
            if (equalsIgnoringCase(Items[pos].TextureName + ".txd", entryName))
                ResolveTexture(pos);
        }
    }

    void BuildIDIndex()
    {
        std::vector<int> index(Items.size());
        for (int pos = 0; pos < this->Count(); ++pos) {
            index[pos] = pos;
            Items[pos].ArrayIndex = pos;
        }
        std::stable_sort(index.begin(), index.end(), [this](int a, int b) { return Items[a].ID < Items[b].ID; });
        IDIndex = std::move(index);
    }

    void DropIDIndex() { IDIndex.reset(); }

    // The largest ID that is not negative, 0 when there is none.
    int HighestID() const
    {
        int highest = 0;
        for (const Record& record : Items)
            highest = std::max(highest, record.ID);
        return highest;
    }

protected:
    void copyCaches(Record& to, const Record& from) const override
    {
        to.ModelIndex = from.ModelIndex;
        to.TextureIndex = from.TextureIndex;
        to.ArrayIndex = from.ArrayIndex;
    }

    int nextFreeID() const { return (m_context ? m_context->HighestID() : HighestID()) + 1; }

private:
    const DefinitionContext* m_context = nullptr;
};
