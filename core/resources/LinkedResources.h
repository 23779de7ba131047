#pragma once
// Native builds have no module resources: the build links each embedded file
// into the program and lists it here (see cmake/Resources.cmake). The table
// ends with an entry whose name is null. A program without resources gets an
// empty table.

namespace Resources {

struct LinkedResource {
    const wchar_t* name;
    const wchar_t* type;
    const unsigned char* begin;
    const unsigned char* end;
};

extern const LinkedResource kLinkedResources[];

}  // namespace Resources
