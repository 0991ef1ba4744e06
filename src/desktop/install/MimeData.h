#pragma once
// The data the build compiles in from the one MIME list and the MIME package.

namespace kestrel {

// "group:type" entries separated by ",": the group is the installation window's check box that
// makes Kestrel the type's default ("-" for none).
extern const char* const kMimeTypeList;
// The MIME package defining the types without a shared name (kestrel.xml).
extern const char* const kMimePackage;

} // namespace kestrel
