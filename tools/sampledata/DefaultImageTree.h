#pragma once
// The default picture tree the editor finds beside itself: DefaultImage/LiftState/ with the
// forty lift-state pictures, and DefaultImage/UserDefine/Floor/Style0 to Style4 with sample
// floor pictures.

#include "tools/sampledata/TSampleFonts.h"

#include <QImage>

#include <map>
#include <string>
#include <vector>

namespace SampleData {

// Files by path relative to the folder that holds DefaultImage/ ("DefaultImage/LiftState/...").
using TFileSet = std::map<std::string, std::string>;

constexpr int LiftStatePictureWidth = 128;
constexpr int LiftStatePictureHeight = 32;
constexpr int FloorPictureWidth = 112;
constexpr int FloorPictureHeight = 80;

// "FIRE-128x32_EN.bmp" .. : the default file name of lift state s, variant v (0 English normal,
// 1 second language normal, 2 English inverted, 3 second language inverted).
std::string LiftStateFileName(int state, int variant);
// The lift-state picture itself.
QImage LiftStatePicture(const TSampleFonts& fonts, int state, int variant);

// Names (without ".bmp") of the sample floor pictures every style folder holds.
const std::vector<std::string>& SampleFloorPictureNames();

// Every file of the tree.
TFileSet BuildDefaultImageTree(const TSampleFonts& fonts);

// Writes the tree into parentDir/DefaultImage: drawn into a fresh folder beside it, then put in
// place of the old one, so a failure leaves the old tree whole. Raises XVclUtil::EXGeneral.
void WriteDefaultImageTree(const TFileSet& files, const std::string& parentDir);

} // namespace SampleData
