# Reads `perf script -F period,ip,sym,dso` of a cpu-clock recording with call chains and
# prints the sampled milliseconds by who spent them: "product MS platform MS unknown MS
# append MS".
#
# A sample is the platform's when any frame of its chain is the platform layer (the simulated
# machine is sim::, its entry points platform::) or when it is inside a system call: that is
# the time Windows would spend on the real machine. The user part of a system call's chain is
# not always recorded (the unwinder at times stops at the C library's wrapper), which is why a
# system call is not asked for its caller. Everything else, the C++ library called from the
# product and the page faults under it included, is the product's own. "unknown" is the part
# of the product's whose chain has no frame of the program (program=PATH): a chain the
# unwinder lost, counted as the product's so that the figure errs on the high side. "append"
# is the part of the platform's under its text-file append, the flight recorder's every line.
BEGIN { RS = ""; FS = "\n" }
{
  period = $1 + 0
  where = "product"
  ours = 0
  appending = 0
  for (i = 2; i <= NF; i++) {
    frame = $i
    sub(/^[ \t]*[0-9a-f]+ /, "", frame)
    if (frame ~ /^(sim|platform)::/ || frame ~ /^do_syscall_64 /) where = "platform"
    if (index(frame, "(" program ")") > 0) ours = 1
    if (frame ~ /^platform::appendTextFile/) appending = 1
  }
  spent[where] += period
  if (where == "product" && !ours) spent["unknown"] += period
  if (appending) spent["append"] += period
}
END {
  printf "product %.3f platform %.3f unknown %.3f append %.3f\n", spent["product"] / 1e6,
    spent["platform"] / 1e6, spent["unknown"] / 1e6, spent["append"] / 1e6
}
