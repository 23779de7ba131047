#pragma once

namespace Platform::Portable {

// Access a test grants on a key or a file, standing in for a security
// descriptor (Wine enforces none, so access-denied cases run here only).
enum class Protection {
    None,      // full access
    ReadOnly,  // opens for reading; changing, creating below and deleting fail with 5
    NoAccess,  // every open fails with 5
};

}  // namespace Platform::Portable
