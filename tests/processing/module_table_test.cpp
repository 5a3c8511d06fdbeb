#include "core/error.h"
#include "core/session.h"
#include "processing/module_table.h"
#include "processing/sequence_editor.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

using namespace tarnix;

TEST(ModuleTable, EveryCodeTheWorkerAcceptsHasOneEntryWithACall) {
    const char* codes[] = {"ABSM",   "FFTF",    "FFTM", "TMXM", "RNFM", "SWELL", "ACFM",
                           "SPFM",   "HBFM",    "ASTM", "STAM", "RESM", "MUTM",  "WSEG",
                           "WASCII", "WKORVA2", "RCCM", "SNIM", "STTM", "AGCM",  "TVGM",
                           "FLTM",   "DECM",    "NORM", "GRAD", "DBAS", "LING",  "DERV"};
    std::set<std::string> seen;
    for (const char* c : codes) {
        const ModuleEntry* m = findModule(c);
        ASSERT_NE(m, nullptr) << c;
        EXPECT_NE(m->handler, nullptr) << c;
        seen.insert(c);
    }
    // The rest of the table is buttons that write no module (POSM).
    for (const ModuleEntry& m : moduleTable())
        if (!seen.count(m.code)) {
            EXPECT_TRUE(m.rowNumberOnly) << m.code;
            EXPECT_EQ(m.handler, nullptr) << m.code;
        }
    EXPECT_EQ(findModule("FLMT"), nullptr);
    EXPECT_EQ(findModule(""), nullptr);
    EXPECT_THROW(module("FLMT"), Error);
}

TEST(ModuleTable, ButtonsWhoseCaptionIsNotTheirCode) {
    // Searching for either name finds the one entry that holds both.
    const std::pair<const char*, const char*> renamed[] = {
        {"LGAIN", "LING"}, {"SPKM", "SPFM"},         {"RESAM", "RESM"},
        {"TMIX", "TMXM"},  {"FFT", "FFTM"},          {"ABS", "ABSM"},
        {"WSEGY", "WSEG"}, {"WKORVA2.0", "WKORVA2"}, {"STRM", "STTM"},
    };
    for (auto [caption, code] : renamed) {
        const ModuleEntry& m = module(code);
        ASSERT_NE(m.button.caption, nullptr) << code;
        EXPECT_STREQ(m.button.caption, caption);
        EXPECT_EQ(moduleByHandler(m.button.handler), &m) << code;
    }
    EXPECT_EQ(module("GRAD").button.caption, nullptr);
    EXPECT_EQ(module("SNIM").button.caption, nullptr);
}

TEST(ModuleTable, ColumnsReadOnlyFieldsThePanelShows) {
    auto s = std::make_unique<Session>();
    SequenceEditor ed(*s);
    for (const ModuleEntry& m : moduleTable()) {
        if (!m.button.caption) continue;
        ed.select(m);
        for (const ColumnSpec& c : m.columns) {
            const bool readsField = c.kind == ColumnKind::Text || c.kind == ColumnKind::Number ||
                                    c.kind == ColumnKind::Integer || c.kind == ColumnKind::FileName;
            // STAM writes its hidden second edit as p2, as the row always has.
            if (readsField && !(m.code == std::string_view("STAM") && c.field == 1)) {
                EXPECT_TRUE(ed.state().edits.at(c.field).visible) << m.code;
            }
            if (c.kind == ColumnKind::Check) {
                EXPECT_TRUE(ed.state().checkVisible) << m.code;
            }
            if (c.kind == ColumnKind::Computed) {
                EXPECT_NE(m.computeColumns, nullptr) << m.code;
            }
        }
        if (m.rowFile == RowFileSource::Field) {
            EXPECT_EQ(m.panel.fileField, m.rowFileField) << m.code;
        }
        EXPECT_EQ(ed.state().title, m.button.title);
    }
}
