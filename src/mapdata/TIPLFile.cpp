#include "TIPLFile.h"

TIPLFile::TIPLFile() : TGTASFile(FileKind::IPL)
{
    m_sections = {
        {"inst", &Inst, nullptr},
        {"cull", &Cull, nullptr},
        {"zone", &Zone, nullptr},
        {"occl", &Occl, nullptr},
        {"path", &Path, &Path},
    };
}
