#include "foundation/RegKeyNoThrow.h"

#include "foundation/NorlibExceptions.h"
#include "foundation/RegKey.h"

// ReadString and WriteString: the throwing key does the work; its exception
// skips the rest of the operation, and its record is that of the first
// failing call.

std::string RegKeyNoThrow::ReadString(const std::string& fullPath, const std::string& valueName, bool expand) {
    RegKey key(fullPath);
    std::string text;
    try {
        text = key.ReadString(valueName, expand);
    } catch (const Norlib::RegException&) {
    }
    Assign(key);
    return text;
}

bool RegKeyNoThrow::WriteString(const std::string& fullPath, const std::string& valueName, const std::string& text,
                                bool expand) {
    RegKey key(fullPath);
    try {
        key.WriteString(valueName, text, expand);
    } catch (const Norlib::RegException&) {
    }
    Assign(key);
    return key.Succeeded();
}
