# embed_byte_set(<target> <symbol> <file>)
# Puts <file> into the read-only data of <target> as a byte set: a 32-bit 1, a 32-bit
# byte count, then the bytes. The assembler computes the count, so no array ever
# appears in a source file. Declare it in C++ as `extern "C" const ByteSetBlock <symbol>;`.
function(embed_byte_set target symbol file)
  set(asm ${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.S)
  file(WRITE ${asm}.in [=[
#define CAT2(a, b) a##b
#define CAT(a, b) CAT2(a, b)
#define SYM(x) CAT(__USER_LABEL_PREFIX__, x)
#ifdef _WIN32
    .section .rdata,"dr"
#else
    .section .rodata
#endif
    .globl SYM(@symbol@)
    .balign 16
SYM(@symbol@):
    .long 1
    .long 2f - 1f
1:  .incbin "@file@"
2:
#ifndef _WIN32
    .section .note.GNU-stack,"",@progbits
#endif
]=])
  configure_file(${asm}.in ${asm} @ONLY)
  set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${file})
  target_sources(${target} PRIVATE ${asm})
endfunction()
