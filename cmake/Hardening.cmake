# The hardening Debian builds its own packages with, for the optimised builds that get packaged:
# checked string and memory calls (which need optimisation, so never in Debug), stack canaries,
# a read-only relocation table bound at start, and position-independent executables.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

set(brenmoor_optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
# Some compilers predefine a level of their own; say ours without a redefinition warning.
add_compile_options($<${brenmoor_optimised}:-U_FORTIFY_SOURCE>
                    $<${brenmoor_optimised}:-D_FORTIFY_SOURCE=2>
                    $<${brenmoor_optimised}:-fstack-protector-strong>)
add_link_options($<${brenmoor_optimised}:LINKER:-z,relro> $<${brenmoor_optimised}:LINKER:-z,now>)
