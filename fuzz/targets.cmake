# Every fuzz target and the library its parser lives in. fuzz/ builds them for libFuzzer (clang);
# tests/fuzz replays each target's regression inputs and seeds through the same function with
# the normal compiler, so an input that once crashed stays a test.
set(BRENMOOR_FUZZ_TARGETS
  frame_cutter reply_lines modbus_reply modbus_request decode2 flash_reply bas_reader transfers
  ini cli_arguments)
set(BRENMOOR_FUZZ_LIBS_frame_cutter brenmoor_link_core)
set(BRENMOOR_FUZZ_LIBS_reply_lines brenmoor_link_core)
set(BRENMOOR_FUZZ_LIBS_modbus_reply brenmoor_modbus)
set(BRENMOOR_FUZZ_LIBS_modbus_request brenmoor_modbus)
set(BRENMOOR_FUZZ_LIBS_decode2 brenmoor_modbus)
set(BRENMOOR_FUZZ_LIBS_flash_reply brenmoor_transfer_core)
set(BRENMOOR_FUZZ_LIBS_bas_reader brenmoor_transfer_core)
set(BRENMOOR_FUZZ_LIBS_transfers brenmoor_transfer_core)
set(BRENMOOR_FUZZ_LIBS_ini brenmoor_core)
set(BRENMOOR_FUZZ_LIBS_cli_arguments brenmoor_cli_core)
# The widget-free libraries those live in; a fuzz build instruments them for coverage.
set(BRENMOOR_FUZZED_LIBS brenmoor_core brenmoor_modbus brenmoor_link_core brenmoor_transfer_core
  brenmoor_cli_core)
