#include "ModifiedFilesSave.h"

#include "TGTAFileList.h"

ModifiedFilesReport SaveModifiedFiles(TGTAFileList& files)
{
    ModifiedFilesReport report;
    for (int pos = 0; pos < files.Count(); ++pos) {
        TGTASFile& file = *files.File(pos);
        if (!file.Modified)
            continue;
        const int error = file.Save();
        (error == 0 ? report.saved : report.failed).push_back({pos, file.FileName, error});
    }
    return report;
}
