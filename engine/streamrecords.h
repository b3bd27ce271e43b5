// Splitting the decoder library's stream-info record and ID3 version 1 tag into their fields.
#pragma once

#include <QString>
#include <cstdint>

void DecodeStreamInfo(const void *Info, int &Layer, int &Bitrate, int &Frequency,
                      uint8_t &StereoMode);
void DecodeID3Info(const void *Tag, QString &Title, QString &Artist, QString &Album, QString &Year,
                   QString &Comment, uint8_t &Genre);
