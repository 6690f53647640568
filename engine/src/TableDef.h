// Field and index definitions of a table and the fixed-length record image they describe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dbeng {

struct FieldDef {
    std::string name;
    uint16_t type = 0;
    uint32_t length = 0; // as DbGetFieldLength reports it
    uint16_t decimals = 0;
    uint32_t offset = 0; // in the record image
};

struct IndexDef {
    std::string name;
    std::vector<int> fields; // 0-based field positions, in segment order
    bool unique = false;
};

struct TableDef {
    std::string path; // the file's real path (the file system's bytes)
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
    uint32_t recordLength = 0;

    // -1 when there is no such field (names compared without regard to case).
    int fieldIndex(const std::string &name) const;
    int indexIndex(const std::string &name) const;
    // Computes offsets and the record length.
    void layout();
    // Throws DbException unless a new index tag of these fields can be made: the tag exists
    // (DBE_INDEX_EXISTS), a memo-like field (DBE_INVALID_FIELD_TYPE), a key longer than
    // DB_MAX_KEY_LENGTH (DBE_INVALID_ARGUMENT).
    void checkNewIndex(const std::string &tag, const std::vector<int> &indexFields) const;
};

bool isKnownType(uint16_t type);
bool isBlobType(uint16_t type);   // memo, binary, image, varchar: values by reference
bool isStringType(uint16_t type); // string, ci-string
bool needsLength(uint16_t type);  // string, ci-string, numeric, raw
// Width of the field in the record image.
uint32_t imageSize(uint16_t type, uint32_t length);
const char *typeName(uint16_t type);
bool equalNames(const std::string &a, const std::string &b);

// Parses DbCreateTable's "NAME,TYPE,LENGTH,DECIMALS;..." and checks it; throws DbException
// (DBE_INVALID_ARGUMENT) with a text that names the bad entry.
std::vector<FieldDef> parseFieldList(const std::string &text, const std::string &file);

} // namespace dbeng
