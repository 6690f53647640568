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
// The value a caller's text of len bytes gives for the field: raw fields take every byte; any
// other value ends at a zero byte, after which only zero bytes and blanks may follow
// (DBE_VALUE_INVALID otherwise, rather than storing a shortened value).
std::string valueText(const FieldDef &field, const char *bytes, uint32_t len,
                      const std::string &file);
// Refuses an image given with more bytes than the field holds unless the rest is padding.
void checkImageLength(const FieldDef &field, const uint8_t *bytes, uint32_t len,
                      const std::string &file);
// Throws DbException(DBE_VALUE_INVALID) naming field and file; a text longer than a string or
// raw field is refused unless the rest is padding. Not for memo-like fields.
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
