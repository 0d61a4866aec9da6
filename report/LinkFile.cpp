// The link file of one export, in either mode: the declaration, REPORT, the
// sections SYSTEM, BASIC and DATA, and the end of REPORT.
//
// After a section that fails the user is asked whether to go on; No stops the
// export (result 2) and leaves the file as far as it was written, closed by
// the end tag of REPORT when the writer can still write it. A writer that has
// failed writes nothing more, so the sections after a failed one fail as well
// and their questions follow in turn.
//
// A run never reports success for a file it could not finish: when every
// section was written but the end tag of REPORT or the closing of the file
// fails, the question of the failed DATA section is asked; and when the user
// went on past a failed write (a full disk, a file that could not be
// created), the file ends where that write failed, so the run does not end
// as exported: the user is told that the file is incomplete, and the run ends
// as after a No (result 2, nothing remembered). Going on past a section that
// failed without a failed write (the writer still writes) completes the run
// as before: the file is whole apart from that section.
//
// An amount beyond the range of the amount type leaves this code by the
// integer -1 that the amount type throws; the writer and the file object are
// closed on the way out, and the run ends with its overflow message.
#include "report/LinkFile.h"

#include "report/BasicSection.h"
#include "report/CXmlWriter.h"
#include "report/DataFromSaveInfo.h"
#include "report/DataFromShiwake.h"
#include "report/LinkLevels.h"
#include "report/SystemSection.h"
#include "suite/SuiteRecords.h"

namespace {

const char kCaption[] = "消費税";
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";

const char kIncomplete[] =
    "出力ファイルへの書き込みに失敗したため、消費税情報の出力ファイルは完成していません。\n\n"
    "出力先を確認してから、もう一度実行してください。";

const char* const kQuestions[3] = {
    "システム情報の出力に失敗しました。\n\n出力を続けますか？",
    "基本情報の出力に失敗しました。\n\n出力を続けますか？",
    "連動情報の出力に失敗しました。\n\n出力を続けますか？",
};

// The root's lines are written into a buffer of their own, larger than the
// sections' lines need.
constexpr int kRootLineSize = 512;
static_assert(kRootLineSize >= CXmlWriter::kLineBufferSize);

bool UserStops(HWND hOwner, const char* text)
{
    return MessageBoxA(hOwner, text, kCaption, MB_YESNO | MB_ICONEXCLAMATION) == IDNO;
}

// Writes the whole file; 1 when the export went to its end (also past failed
// sections the user chose to go on from), 0 when the user stopped it.
template <class System, class Basic, class Data>
int WriteLinkFile(HWND hOwner, LPCTSTR lpszPath, System writeSystem, Basic writeBasic, Data writeData)
{
    CFile file;
    CXmlWriter writer;
    char line[kRootLineSize] = {};

    // A file that cannot be created shows up as failed writes of the sections.
    writer.Open(&file, lpszPath);
    writer.WriteLine(kDeclaration);
    writer.WriteStartElement(line, "REPORT", linklevel::kReport);

    bool bAllWritten = true;
    for (int section = 0; section < 3; ++section) {
        const int ok = section == 0 ? writeSystem(&writer) : section == 1 ? writeBasic(&writer) : writeData(&writer);
        if (ok) {
            continue;
        }
        bAllWritten = false;
        if (UserStops(hOwner, kQuestions[section])) {
            writer.WriteEndElement(line, "REPORT", linklevel::kReport);
            writer.Close();
            return 0;
        }
    }

    const int bEnded = writer.WriteEndElement(line, "REPORT", linklevel::kReport);
    // The file object is closed here, where its error can still be seen; the
    // writer's own closing then has nothing left to do.
    bool bClosed = true;
    try {
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
        bClosed = false;
    }
    writer.Close();
    if (bAllWritten && (!bEnded || !bClosed) && UserStops(hOwner, kQuestions[2])) {
        return 0;
    }
    if (writer.HasFailed() || !bEnded || !bClosed) {
        MessageBoxA(hOwner, kIncomplete, kCaption, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

}  // namespace

namespace linkfile {

int WriteSavedValuesFile(HWND hOwner, LPCTSTR lpszPath, const RunFigures& figures, const SystemIds& ids,
                         const StDATAINFO* pDataInfo, int bNiwariTokurei, int nUriageHoushiki, int nShiireHoushiki)
{
    return WriteLinkFile(
        hOwner, lpszPath,
        [&](CXmlWriter* w) { return WriteSystemSection(w, ids.nFunctionId, ids.lpszProductName); },
        // BASIC takes the fiscal year and both flags from the saved values.
        [&](CXmlWriter* w) { return WriteBasicSection(w, figures, pDataInfo, 1, 0); },
        [&](CXmlWriter* w) {
            return WriteDataFromSaveInfo(w, figures, pDataInfo, bNiwariTokurei, nUriageHoushiki, nShiireHoushiki);
        });
}

int WriteAggregatedFile(HWND hOwner, LPCTSTR lpszPath, const RunFigures& figures, const SystemIds& ids,
                        const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo, BYTE bNiwariTokurei,
                        BYTE nUriageHoushiki, BYTE nShiireHoushiki)
{
    return WriteLinkFile(
        hOwner, lpszPath,
        [&](CXmlWriter* w) { return WriteSystemSection(w, ids.nFunctionId, ids.lpszProductName); },
        [&](CXmlWriter* w) { return WriteBasicSection(w, figures, pDataInfo, 0, bNiwariTokurei); },
        [&](CXmlWriter* w) {
            return WriteDataFromShiwake(w, figures, pDataInfo, pShohizeiInfo, bNiwariTokurei, nUriageHoushiki,
                                        nShiireHoushiki);
        });
}

}  // namespace linkfile
