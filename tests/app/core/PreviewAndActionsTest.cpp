// The code grid preview and the page actions on the document.

#include "CoreTestSupport.h"

#include "XVclUtil/FileUtil.h"
#include "app/core/DocumentActions.h"
#include "app/core/qt/PreviewComposer.h"

using namespace AppCore;
using XVclUtil::FileExists;

namespace {

class Preview : public CoreTest::TCoreFixture {
protected:
    void SetUp() override {
        TCoreFixture::SetUp();
        Library.Assign(CoreTest::MakeLibrary());
        Canvas = BlankPreview();
    }
    bool Show(const std::string& cell, int defFl = 0) {
        return RenderPreview(Canvas, PlanPreview(cell, defFl, Session.Context.FloorStylePrefix),
                             Library);
    }
    // Columns of the canvas holding black pixels in row 40.
    std::vector<int> BlackColumns() const {
        std::vector<int> columns;
        for (int x = 0; x < Canvas.width(); ++x)
            if (Canvas.pixel(x, 40) == qRgb(0, 0, 0)) columns.push_back(x);
        return columns;
    }
    TPictureLibrary Library;
    QImage Canvas;
};

class Actions : public CoreTest::TCoreFixture {
protected:
    void SetUp() override {
        TCoreFixture::SetUp();
        WriteWorkingFolder();
        ASSERT_TRUE(Start());
        Prompts.LoadedPictures.clear();
    }
};

} // namespace

TEST_F(Preview, Plans) {
    const std::string prefix = "/p/Style";
    EXPECT_EQ(PlanPreview("  ", 0, prefix).Kind, TPreviewPlan::Clear);
    const TPreviewPlan five = PlanPreview("05", 2, prefix);
    ASSERT_EQ(five.Kind, TPreviewPlan::OneGlyph);
    EXPECT_EQ(five.Glyphs[0].Group, 3);
    EXPECT_EQ(five.Glyphs[0].Index, '5');
    EXPECT_EQ(five.Glyphs[0].X, 28);
    const TPreviewPlan b1 = PlanPreview("b1", 0, prefix);
    ASSERT_EQ(b1.Kind, TPreviewPlan::TwoGlyphs);
    EXPECT_EQ(b1.Glyphs[0].Index, 'B');
    EXPECT_EQ(b1.Glyphs[0].X, 0);
    EXPECT_EQ(b1.Glyphs[1].Index, '1');
    EXPECT_EQ(b1.Glyphs[1].X, 56);
    EXPECT_EQ(PlanPreview("00", 0, prefix).Glyphs.at(0).Index, '0');
    const TPreviewPlan picture = PlanPreview(" b1arrow ", 3, prefix);
    EXPECT_EQ(picture.Kind, TPreviewPlan::Picture);
    EXPECT_EQ(picture.PicturePath, "/p/Style3/B1ARROW.bmp");
}

TEST_F(Preview, OneGlyphIsCentred) {
    ASSERT_TRUE(Show("05"));
    // Glyph '5' has its black column at '5' % 56 = 53: x = 28 + 53.
    EXPECT_EQ(BlackColumns(), (std::vector<int>{28 + '5' % 56}));
}

TEST_F(Preview, TwoGlyphsSideBySideWithoutClearing) {
    Canvas.setPixel(115, 40, qRgb(0, 0, 0)); // beyond the glyphs: stays
    ASSERT_TRUE(Show("B1"));
    EXPECT_EQ(BlackColumns(), (std::vector<int>{'B' % 56, 56 + '1' % 56, 115}));
}

TEST_F(Preview, MissingGlyphOrLibraryLeavesThePreview) {
    ASSERT_TRUE(Show("1"));
    const QImage before = Canvas;
    EXPECT_FALSE(Show("a~", 1)); // style 1 has no glyph "~"
    EXPECT_EQ(Canvas, before);
    TPictureLibrary none;
    std::string failed;
    EXPECT_FALSE(RenderPreview(Canvas, PlanPreview("7", 0, ""), none, &failed));
    EXPECT_EQ(failed, "(1, 55)");
    EXPECT_EQ(Canvas, before);
}

TEST_F(Preview, FloorPictureFoundWithoutRegardToCase) {
    ASSERT_TRUE(Show("12"));
    const QImage before = Canvas;
    EXPECT_TRUE(Show("lobby", 2)); // no such file: unchanged
    EXPECT_EQ(Canvas, before);
    CoreTest::WriteFile(ProgramDir + "DefaultImage/UserDefine/Floor/Style2/Lobby.bmp",
                        CoreTest::MakeBmp(112, 80, 7));
    EXPECT_TRUE(Show("lobby", 2));
    EXPECT_EQ(Canvas.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(Canvas.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(Canvas.pixel(116, 0), qRgb(255, 255, 255)); // outside the picture: white
}

TEST_F(Preview, ClearPaintsWhite) {
    ASSERT_TRUE(Show("88"));
    ASSERT_TRUE(Show(""));
    EXPECT_TRUE(BlackColumns().empty());
}

TEST_F(Actions, ClearAllEmptiesCellsAndShowsLibraryTitles) {
    Session.Document.CodeTables[0][0] = "1";
    Session.Document.CodeTables[5][255] = "LOBBY";
    Session.Document.TITLEFILENAME_V = "/mine.bmp";
    ClearAll(Session);
    for (const auto& table : Session.Document.CodeTables)
        for (const auto& cell : table) EXPECT_EQ(cell, "");
    EXPECT_EQ(Session.Document.TITLEFILENAME_V, ""); // what the box shows is what is built
    EXPECT_EQ(Prompts.PictureIn(Images::TitleV), "VRC-780AS1V2.GLB (0, 0)");
    EXPECT_EQ(Prompts.PictureIn(Images::TitleH), "VRC-780AS1V2.GLB (0, 5)");
    EXPECT_FALSE(FileExists("KRV_TEMPBMP.BMP"));
    EXPECT_EQ(Session.StatusPanels[0], "Project file: ");
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(Actions, ClearCellOnlyTouchesTheSelectedCell) {
    Session.Document.CodeTables[3][4] = "X";
    Session.Document.CodeTables[3][5] = "Y";
    ClearCell(Session.Document, 3, 4);
    ClearCell(Session.Document, 6, 0);   // outside: nothing
    ClearCell(Session.Document, 0, 256); // outside: nothing
    EXPECT_EQ(Session.Document.CodeTables[3][4], "");
    EXPECT_EQ(Session.Document.CodeTables[3][5], "Y");
}

TEST_F(Actions, LogoOnWithoutLogoAsksAndStaysOnWhenCancelled) {
    LogoOn(Session);
    EXPECT_EQ(Prompts.OpenDialogs.size(), 1u);
    EXPECT_TRUE(Session.Document.CUSLOGOENABLE);
    EXPECT_EQ(Session.Document.TITLEFILENAME_C, "");
    LogoOff(Session);
    EXPECT_FALSE(Session.Document.CUSLOGOENABLE);

    CoreTest::WriteFile(Work("logo.bmp"), CoreTest::MakeBmp(112, 80, 3));
    Prompts.OpenAnswers.push_back(Work("logo.bmp"));
    LogoOn(Session);
    EXPECT_EQ(Session.Document.TITLEFILENAME_C, Work("logo.bmp"));
    EXPECT_EQ(Prompts.PictureIn(Images::Logo), Work("logo.bmp"));
    LogoOn(Session); // a logo is chosen: no dialog
    EXPECT_EQ(Prompts.OpenDialogs.size(), 2u);
}

TEST_F(Actions, CustomerPictures) {
    CoreTest::WriteFile(Work("t2.bmp"), CoreTest::MakeBmp(128, 32, 3));
    Prompts.ReadableFormats = {"gif", "bmp", "png", "jpg"}; // as the window's loader answers
    Prompts.OpenAnswers.push_back(Work("t2.bmp"));
    EXPECT_TRUE(PickCustomerPicture(Session, TCustomerPicture::Title2));
    EXPECT_EQ(Session.Document.TITLEFILENAME_2, Work("t2.bmp"));
    EXPECT_EQ(Prompts.PictureIn(Images::Title2), Work("t2.bmp"));
    // BMP first, then PNG, then the loader's other formats.
    const std::string filter = Prompts.OpenDialogs.back().Filter;
    EXPECT_EQ(filter.rfind(PictureFileFilter, 0), 0u);
    EXPECT_EQ(filter, std::string(PictureFileFilter) +
                          "|PNG picture (*.png)|*.png|Other pictures (*.gif *.jpg)|*.gif;*.jpg");

    EXPECT_FALSE(PickCustomerPicture(Session, TCustomerPicture::TitleH)); // cancelled
    EXPECT_EQ(Session.Document.TITLEFILENAME_H, "");

    CoreTest::WriteFile(Work("bad.bmp"), std::string("garbage"));
    Prompts.OpenAnswers.push_back(Work("bad.bmp"));
    EXPECT_FALSE(PickCustomerPicture(Session, TCustomerPicture::TitleV));
    EXPECT_EQ(Session.Document.TITLEFILENAME_V, "");
    EXPECT_EQ(Messages.Messages.size(), 1u);
}

TEST_F(Actions, LiftStatePictureChangesOneSlot) {
    const auto before = Session.Document.LiftStateImageTable;
    CoreTest::WriteFile(Work("ol.bmp"), CoreTest::MakeBmp(128, 32, 3));
    Prompts.OpenAnswers.push_back(Work("ol.bmp"));
    // Third box of the second row on MSG.2: state 4, variant 0.
    ASSERT_TRUE(PickLiftStatePicture(Session, 4, 0));
    for (int slot = 0; slot < LiftStateSlotCount; ++slot)
        EXPECT_EQ(Session.Document.LiftStateImageTable[slot],
                  slot == 16 ? Work("ol.bmp") : before[slot]);
    EXPECT_EQ(Prompts.PictureIn(Images::LiftStateBox(4, 0)), Work("ol.bmp"));
    EXPECT_EQ(Images::LiftStateBox(4, 0), 22 + 16 + 2);
    EXPECT_FALSE(PickLiftStatePicture(Session, 10, 0));
}

TEST_F(Actions, RadioGroups) {
    ProjectDocument& doc = Session.Document;
    EXPECT_TRUE(SelectDefCodeTable(doc, 5));
    EXPECT_FALSE(SelectDefCodeTable(doc, 6));
    EXPECT_EQ(doc.DEFCODETABLE, 5);
    EXPECT_TRUE(SelectFloorStyle(doc, 3));
    EXPECT_FALSE(SelectFloorStyle(doc, 5));
    EXPECT_EQ(doc.DEF_FL, 3);
    EXPECT_EQ(PlanPreview("lobby", doc.DEF_FL, Session.Context.FloorStylePrefix).PicturePath,
              ProgramDir + "DefaultImage/UserDefine/Floor/Style3/LOBBY.bmp");
    EXPECT_TRUE(SelectArrowStyle(doc, 11));
    EXPECT_FALSE(SelectArrowStyle(doc, -1));
    EXPECT_EQ(doc.DEF_DIR, 11);
}

TEST_F(Actions, RomFileListClickTakesTheNameOnly) {
    SelectRomFile(Session.Document, Work("roms/LIFT2.ROM"));
    EXPECT_EQ(Session.Document.ROMFILENAME, "LIFT2.ROM");
}
