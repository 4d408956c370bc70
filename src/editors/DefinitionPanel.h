#pragma once

#include "ItemPanel.h"

// The page of an object definition of an IDE file: `panelideobjs` for objs records,
// `panelidetobj` for timed objects, which add their hours. The markers tell whether the
// archive holds the model and the texture dictionary.
class DefinitionPanel : public ItemPanel {
    Q_OBJECT
public:
    DefinitionPanel(TFormEditorItem& editor, bool timed);
    void load() override;
    // The model and texture markers of the selected record.
    void updateMarkers();

private:
    const bool m_timed;
};
