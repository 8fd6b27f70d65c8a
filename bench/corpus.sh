# Sourced by the benchmark scripts.
# ordinary_text KB: KB kibibytes of ordinary text on standard output,
# lines of varying length, tabs now and then; the same text every time.
ordinary_text() {
  awk -v kb="$1" 'BEGIN {
    srand(7);
    words = "the quick brown fox jumps over a lazy dog while printers hum (and) " \
            "spoolers queue\tjobs for everyone in the office";
    n = split(words, w, " ");
    size = 0;
    while (size < kb * 1024) {
      line = "";
      len = int(rand() * 14);
      for (i = 0; i < len; i++) line = line w[int(rand() * n) + 1] " ";
      print line;
      size += length(line) + 1;
    }
  }'
}
