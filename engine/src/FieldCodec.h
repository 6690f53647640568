// Field values between their record image (the layout of dbeng.h) and text, the form
// DbGetField hands out and DbSetField, text keys and filter values take in.
#pragma once

#include "EngineSettings.h"
#include "TableDef.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dbeng {

void nullImage(const FieldDef &field, uint8_t *image);
bool isNullImage(const FieldDef &field, const uint8_t *image);
void nullRecord(const TableDef &def, uint8_t *record);

// Not for memo-like fields, whose image is only a reference.
std::string imageToText(const FieldDef &field, const uint8_t *image, const EngineSettings &settings,
                        bool trimRight);
// Throws DbException(DBE_VALUE_INVALID) naming field and file; strings longer than the field
// are cut. Not for memo-like fields.
void textToImage(const FieldDef &field, std::string_view text, uint8_t *image,
                 const EngineSettings &settings, const std::string &file);
// Checks an image given with DbSetFieldRaw; throws DBE_VALUE_INVALID when it is not one.
void checkImage(const FieldDef &field, const uint8_t *image, const std::string &file);

// Little-endian access to image bytes.
int32_t readInt32(const uint8_t *p);
int16_t readInt16(const uint8_t *p);
double readDouble(const uint8_t *p);
uint32_t readUInt32(const uint8_t *p);
void writeInt32(uint8_t *p, int32_t v);
void writeInt16(uint8_t *p, int16_t v);
void writeDouble(uint8_t *p, double v);
void writeUInt32(uint8_t *p, uint32_t v);

// A numeric image text ("  12.50") for a value; false when it does not fit the width.
bool formatNumeric(double value, uint32_t width, uint16_t decimals, uint8_t *image);
bool parseNumber(std::string_view text, double &value);

} // namespace dbeng
