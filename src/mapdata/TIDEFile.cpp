#include "TIDEFile.h"

TIDEFile::TIDEFile() : TGTASFile(FileKind::IDE)
{
    m_sections = {
        {"objs", &Objs, nullptr},
        {"tobj", &TObj, nullptr},
        {"path", &Path, &Path},
        {"2dfx", &Fx2d, nullptr},
    };
}

void TIDEFile::SetContext(const DefinitionContext* context)
{
    Objs.SetContext(context);
    TObj.SetContext(context);
}
