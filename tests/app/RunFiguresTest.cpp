// The figures the writers get: CShohizeiLinkApp::Figures takes each of them
// from its own member, so that a figure of the file can never come from a
// neighbouring row of the refund statement.
#include "app/ShohizeiLinkApp.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(RunFigures, EveryFigureComesFromItsOwnMember)
{
    CShohizeiLinkApp app;
    const std::vector<std::pair<AccumBlock CShohizeiLinkApp::*, AccumBlock RunFigures::*>> blocks = {
        {&CShohizeiLinkApp::m_abShohinShiire, &RunFigures::abShohinShiire},
        {&CShohizeiLinkApp::m_abHanbaiIppan, &RunFigures::abHanbaiIppan},
        {&CShohizeiLinkApp::m_abEigyogaiHiyou, &RunFigures::abEigyogaiHiyou},
        {&CShohizeiLinkApp::m_abSonotaSoneki, &RunFigures::abSonotaSoneki},
        {&CShohizeiLinkApp::m_abJigyoShiire, &RunFigures::abJigyoShiire},
        {&CShohizeiLinkApp::m_abJigyoHitsuyou, &RunFigures::abJigyoHitsuyou},
        {&CShohizeiLinkApp::m_abJigyoKoteiShisan, &RunFigures::abJigyoKoteiShisan},
        {&CShohizeiLinkApp::m_abFudousanHitsuyou, &RunFigures::abFudousanHitsuyou},
        {&CShohizeiLinkApp::m_abFudousanKoteiShisan, &RunFigures::abFudousanKoteiShisan},
        {&CShohizeiLinkApp::m_abSonotaShiire, &RunFigures::abSonotaShiire},
        {&CShohizeiLinkApp::m_abSonotaHitsuyou, &RunFigures::abSonotaHitsuyou},
        {&CShohizeiLinkApp::m_abSonotaKoteiShisan, &RunFigures::abSonotaKoteiShisan},
    };
    // Every amount of every block differs from every other.
    for (size_t b = 0; b < blocks.size(); ++b)
        for (int i = 0; i < 3; ++i)
            (app.*blocks[b].first).llAmount[i] = static_cast<__int64>(b * 10 + i + 1) * 10000;
    app.m_llKoteiShisan = 1000001;
    app.m_llKurinobeShisan = 1000002;
    app.m_nKazeiKubun = 1;
    app.m_nHasuMode = 2;
    alignas(8) BYTE rates[8], kinds[8], saved[8];
    app.m_pRateInfo = reinterpret_cast<StTAXREPORTRATEINFO*>(rates);
    app.m_pBusinessTypeInfo = reinterpret_cast<StTAXREPORTBUSINESSTYPEINFO*>(kinds);
    app.m_pSaveTaxInfo = saved;

    const RunFigures figures = app.Figures();

    // The buffers are the application object's, never its own.
    app.m_pRateInfo = nullptr;
    app.m_pBusinessTypeInfo = nullptr;
    app.m_pSaveTaxInfo = nullptr;

    for (size_t b = 0; b < blocks.size(); ++b)
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ((figures.*blocks[b].second).llAmount[i], static_cast<__int64>(b * 10 + i + 1) * 10000)
                << "block " << b << " amount " << i;
    EXPECT_EQ(figures.llKoteiShisan, 1000001);
    EXPECT_EQ(figures.llKurinobeShisan, 1000002);
    EXPECT_EQ(figures.nKazeiKubun, 1);
    EXPECT_EQ(figures.nHasuMode, 2);
    EXPECT_EQ(static_cast<const void*>(figures.pRateInfo), static_cast<const void*>(rates));
    EXPECT_EQ(static_cast<const void*>(figures.pBusinessTypeInfo), static_cast<const void*>(kinds));
    EXPECT_EQ(figures.pSaveTaxInfo, saved);
}

}  // namespace
