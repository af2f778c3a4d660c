// The version information of the add-in library, where Linux tools read it: an ELF note
// "Trovanta" (type 1) in its own section, shown by `readelf -n` and `strings`. It holds the
// fixed file and product versions and the string table of the library's version resource,
// one "Name=value" text each, each ended by a NUL byte.

// clang-format off
asm(R"(
    .pushsection .note.trovanta.version, "a", @note
    .balign 4
    .long 9f - 8f
    .long 7f - 6f
    .long 1
8:  .asciz "Trovanta"
9:  .balign 4
6:  .asciz "FILEVERSION=4.1.0.1"
    .asciz "PRODUCTVERSION=4.1.0.1"
    .asciz "FileVersion=4.1.0.1"
    .asciz "ProductVersion=4.1"
    .asciz "FileDescription=Extract e-mails and attachments from Outlook"
    .asciz "InternalName=QELaddin"
    .asciz "OriginalFilename=QELaddin.dll"
    .asciz "ProductName=Trovanta"
7:  .balign 4
    .popsection
)");
// clang-format on
