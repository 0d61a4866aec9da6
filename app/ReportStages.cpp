// The run's stages that write the link file, and the application object's
// members that the writers of report/ were: each forwards to its writer with
// the run's figures.
//
// The figures reach the writers by one road: Figures() takes them from the
// members the run has filled (the aggregation's records and totals, the saved
// record, the taxation kind and the rounding mode that the header texts took
// from the settings) into one RunFigures, passed by const reference.
#include "app/ShohizeiLinkApp.h"

#include "app/YenRounding.h"
#include "report/BasicSection.h"
#include "report/DataFromSaveInfo.h"
#include "report/DataFromShiwake.h"
#include "report/KanpuWriters.h"
#include "report/LinkFile.h"
#include "report/SystemSection.h"
#include "res/Edition.h"

RunFigures CShohizeiLinkApp::Figures() const
{
    RunFigures figures;
    figures.pRateInfo = m_pRateInfo;
    figures.pBusinessTypeInfo = m_pBusinessTypeInfo;
    figures.pSaveTaxInfo = m_pSaveTaxInfo;
    figures.abShohinShiire = m_abShohinShiire;
    figures.abHanbaiIppan = m_abHanbaiIppan;
    figures.abEigyogaiHiyou = m_abEigyogaiHiyou;
    figures.abSonotaSoneki = m_abSonotaSoneki;
    figures.llKoteiShisan = m_llKoteiShisan;
    figures.llKurinobeShisan = m_llKurinobeShisan;
    figures.abJigyoShiire = m_abJigyoShiire;
    figures.abJigyoHitsuyou = m_abJigyoHitsuyou;
    figures.abJigyoKoteiShisan = m_abJigyoKoteiShisan;
    figures.abFudousanHitsuyou = m_abFudousanHitsuyou;
    figures.abFudousanKoteiShisan = m_abFudousanKoteiShisan;
    figures.abSonotaShiire = m_abSonotaShiire;
    figures.abSonotaHitsuyou = m_abSonotaHitsuyou;
    figures.abSonotaKoteiShisan = m_abSonotaKoteiShisan;
    figures.nKazeiKubun = m_nKazeiKubun;
    figures.nHasuMode = m_nHasuMode;
    return figures;
}

// ---------------------------------------------------------------------------
// The writing stages

int CShohizeiLinkApp::OutputSaveInfoReport(HWND hOwner, LPCTSTR lpszPath, const StDATAINFO* pDataInfo,
                                           int bNiwariTokurei, int nUriageHoushiki, int nShiireHoushiki)
{
    const int result = linkfile::WriteSavedValuesFile(hOwner, lpszPath, Figures(), SystemIdsOfRun(), pDataInfo,
                                                      bNiwariTokurei, nUriageHoushiki, nShiireHoushiki);
    if (result == 0) {
        m_nResultCode = RESULT_ERROR;
    }
    return result;
}

int CShohizeiLinkApp::OutputShiwakeReport(HWND hOwner, LPCTSTR lpszPath, const StDATAINFO* pDataInfo,
                                          const StSHOHIZEIINFO* pShohizeiInfo, BYTE bNiwariTokurei,
                                          BYTE nUriageHoushiki, BYTE nShiireHoushiki)
{
    const int result = linkfile::WriteAggregatedFile(hOwner, lpszPath, Figures(), SystemIdsOfRun(), pDataInfo,
                                                     pShohizeiInfo, bNiwariTokurei, nUriageHoushiki,
                                                     nShiireHoushiki);
    if (result == 0) {
        m_nResultCode = RESULT_ERROR;
    }
    return result;
}

// The run's stage of the saved-values mode: the whole file from the saved
// values. The path is named as the run's output before the writer opens it
// (the file becomes the run's when it is opened), and the output is complete
// once the file is closed whole.
int CShohizeiLinkApp::RunSavedValuesExport(const StDATAINFO* pDataInfo, const ShukeiConditions& conditions)
{
    SetOutputInProgress(conditions.szOutputPath);
    const int result = OutputSaveInfoReport(m_hMessageOwner, conditions.szOutputPath, pDataInfo,
                                            conditions.bNiwariTokurei, conditions.nUriageHoushiki,
                                            conditions.nShiireHoushiki);
    if (result == 1) {
        CompleteOutput();
    }
    return result;
}

// The run's stage of the aggregation mode after the figures are summed; the
// wait cursor of the aggregation ends once the file is closed, whether the
// user went on or stopped.
int CShohizeiLinkApp::WriteReportFile(const StDATAINFO* pDataInfo, const StSHOHIZEIINFO* pShohizeiInfo,
                                      const ShukeiConditions& conditions)
{
    SetOutputInProgress(conditions.szOutputPath);
    const int result = OutputShiwakeReport(m_hMessageOwner, conditions.szOutputPath, pDataInfo, pShohizeiInfo,
                                           conditions.bNiwariTokurei, conditions.nUriageHoushiki,
                                           conditions.nShiireHoushiki);
    if (result == 1) {
        CompleteOutput();
    }
    EndRunWaitCursor();
    return result;
}

linkfile::SystemIds CShohizeiLinkApp::SystemIdsOfRun() const
{
    linkfile::SystemIds ids;
    ids.nFunctionId = m_nFunctionId;
    ids.lpszProductName = g_Edition.pszProductName;
    return ids;
}

// ---------------------------------------------------------------------------
// The writers as members of the application object

int CShohizeiLinkApp::WriteSystemSection(CXmlWriter* pWriter)
{
    return linkfile::WriteSystemSection(pWriter, m_nFunctionId, g_Edition.pszProductName);
}

int CShohizeiLinkApp::WriteBasicSection(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, int nMode,
                                        int bNiwariTokurei)
{
    return linkfile::WriteBasicSection(pWriter, Figures(), pDataInfo, nMode, bNiwariTokurei);
}

LPCTSTR CShohizeiLinkApp::ToZenkakuText32(LPCTSTR lpszText)
{
    return linkfile::ToZenkakuText32(lpszText);
}

int CShohizeiLinkApp::HasKeikaSochiAmounts()
{
    return linkfile::HasKeikaSochiAmounts(Figures());
}

int CShohizeiLinkApp::WriteDataFromShiwake(CXmlWriter* pWriter, const StDATAINFO* pDataInfo,
                                           const StSHOHIZEIINFO* pShohizeiInfo, BYTE bNiwariTokurei,
                                           BYTE nUriageHoushiki, BYTE nShiireHoushiki)
{
    return linkfile::WriteDataFromShiwake(pWriter, Figures(), pDataInfo, pShohizeiInfo, bNiwariTokurei,
                                          nUriageHoushiki, nShiireHoushiki);
}

int CShohizeiLinkApp::WriteDataFromSaveInfo(CXmlWriter* pWriter, const StDATAINFO* pDataInfo, int bNiwariTokurei,
                                            int nUriageHoushiki, int nShiireHoushiki)
{
    return linkfile::WriteDataFromSaveInfo(pWriter, Figures(), pDataInfo, bNiwariTokurei, nUriageHoushiki,
                                           nShiireHoushiki);
}

int CShohizeiLinkApp::WriteKingakuElement(CXmlWriter* pWriter, LPSTR lpszLine, LPCTSTR lpszName, __int64 llRaw,
                                          int bBlank)
{
    return linkfile::WriteKingakuElement(pWriter, lpszLine, lpszName, llRaw, bBlank, m_nHasuMode);
}

__int64 CShohizeiLinkApp::MulRawBy20(__int64 llRaw)
{
    return linkfile::MulRawBy20(llRaw);
}

int CShohizeiLinkApp::WriteKanpuH(CXmlWriter* pWriter, const StDATAINFO* pDataInfo,
                                  const StSHOHIZEIINFO* pShohizeiInfo)
{
    return linkfile::WriteKanpuH(pWriter, Figures(), pDataInfo, pShohizeiInfo);
}

int CShohizeiLinkApp::WriteKanpuK(CXmlWriter* pWriter, const StDATAINFO* pDataInfo,
                                  const StSHOHIZEIINFO* pShohizeiInfo)
{
    return linkfile::WriteKanpuK(pWriter, Figures(), pDataInfo, pShohizeiInfo);
}

int CShohizeiLinkApp::WriteKanpuHFromSaveInfo(CXmlWriter* pWriter, const StDATAINFO* pDataInfo)
{
    return linkfile::WriteKanpuHFromSaveInfo(pWriter, Figures(), pDataInfo);
}

int CShohizeiLinkApp::WriteKanpuKFromSaveInfo(CXmlWriter* pWriter, const StDATAINFO* pDataInfo)
{
    return linkfile::WriteKanpuKFromSaveInfo(pWriter, Figures(), pDataInfo);
}

__int64 CShohizeiLinkApp::RoundHasu(__int64 llRaw) const
{
    return RoundYen(llRaw, m_nHasuMode);
}
