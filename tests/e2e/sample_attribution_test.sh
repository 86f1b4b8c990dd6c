#!/usr/bin/env bash
# The benchmark's charging of sampled time: platform layer and system calls to the platform,
# the rest to the product, lost chains to the product and to "unknown", the recorder's
# appends to the platform and to "append".
set -euo pipefail
awk_script="$1/bench/attribute_samples.awk"
program=/build/app/dadazado

listing() {
  cat <<LISTING
    250000 
	           1000 std::__cxx11::basic_string<char>::_M_append ($program)
	           2000 InstFileInfo::HandleCommand ($program)
	           3000 main ($program)

    500000 
	           1100 __memcpy_avx512_unaligned_erms (/usr/lib/x86_64-linux-gnu/libc.so.6)
	           1200 sim::resolvePath ($program)
	           1300 platform::getFileAttributes ($program)
	           3000 main ($program)

   1000000 
	ffffffff81000000 find_get_block_common ([kernel.kallsyms])
	ffffffff81000100 do_syscall_64 ([kernel.kallsyms])
	           f8011 __libc_open64 (inlined)

    250000 
	ffffffff81000200 do_anonymous_page ([kernel.kallsyms])
	ffffffff81000300 asm_exc_page_fault ([kernel.kallsyms])
	           98109 _int_malloc (/usr/lib/x86_64-linux-gnu/libc.so.6)

    500000 
	ffffffff81000000 ext4_file_write_iter ([kernel.kallsyms])
	ffffffff81000100 do_syscall_64 ([kernel.kallsyms])
	           f8022 __GI___libc_write (inlined)
	           5000 platform::appendTextFile ($program)
	           6000 DebugLog::write ($program)
	           3000 main ($program)

    250000 
	           4000 simulateSomething ($program)
	           3000 main ($program)

LISTING
}

got=$(listing | awk -v program="$program" -f "$awk_script")
want="product 0.750 platform 2.000 unknown 0.250 append 0.500"
if [[ "$got" != "$want" ]]; then
  echo "attribution: got '$got', want '$want'" >&2
  exit 1
fi
echo "attribution: $got"
