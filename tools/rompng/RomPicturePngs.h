#pragma once
// Pictures of a ROM image as PNG files: one per picture, upright as the display shows it, and
// one contact sheet with all of them labelled, so a person can see what the display will show
// without a display. Drawing the labels needs a QGuiApplication (fonts).

#include "rom/TRomImageReader.h"

#include <QImage>

#include <string>
#include <vector>

namespace RomPng {

// Every picture that is a mono bitmap record, with its name.
std::vector<std::pair<std::string, QImage>> ViewPictures(const Rom::TRomImageReader& reader);
// A decoded picture as a QImage in RGB32.
QImage ToQImage(const Rom::TPicture& picture);

// The labelled sheet; pictures drawn dark on a pale display background, `scale` pixels per
// display pixel, rows filled up to `width` pixels.
QImage RenderContactSheet(const std::vector<std::pair<std::string, QImage>>& pictures,
                          int scale = 2, int width = 2000);

// Writes <name>.png for every picture and "contact-sheet.png" into dir (created when missing).
// Returns the files written; raises EXGeneral when a file cannot be written.
std::vector<std::string> WritePicturePngs(const Rom::TRomImageReader& reader,
                                          const std::string& dir);

inline constexpr const char* ContactSheetFileName = "contact-sheet.png";

} // namespace RomPng
