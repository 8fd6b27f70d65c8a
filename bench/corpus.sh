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

# source_text KB: KB kibibytes of C-like source code, indented with tabs,
# about a tenth of its lines longer than a sheet is wide.
source_text() {
  awk -v kb="$1" 'BEGIN {
    srand(11);
    n = split("static int unsigned char const struct return if else while " \
              "for (void) buffer_length, *next_entry = table[index]; " \
              "/* the spooler queue */ printer->state == READY && {", w, " ");
    size = 0;
    while (size < kb * 1024) {
      line = substr("\t\t\t", 1, int(rand() * 4));
      len = rand() < 0.1 ? 100 + int(rand() * 100) : int(rand() * 60);
      while (length(line) < len) line = line w[int(rand() * n) + 1] " ";
      print line;
      size += length(line) + 1;
    }
  }'
}

# japanese_text KB: KB kibibytes of memo-like UTF-8 Japanese prose: words
# of kanji and kana, now and then ASCII, half-width kana and a tab.
japanese_text() {
  awk -v kb="$1" 'BEGIN {
    srand(7);
    words = "日本語の 文章を 印刷する ときは、 漢字と かなが 混ざります。 " \
            "表の 列も そろえて 出力します。 ﾃｽﾄ ｶﾅ report 2026 (draft)\t" \
            "会議は 午後 三時から 始まります。 資料を 用意して ください。";
    n = split(words, w, " ");
    size = 0;
    while (size < kb * 1024) {
      line = "";
      len = int(rand() * 12);
      for (i = 0; i < len; i++) line = line w[int(rand() * n) + 1];
      print line;
      size += length(line) + 1;
    }
  }'
}

# english_twin: standard input's UTF-8 text with every character made an
# English letter of the same columns (a kanji "mm", a kana "m"): the same
# lines and columns in English.
english_twin() {
  python3 -c 'import sys, unicodedata
for line in sys.stdin:
    out = []
    for ch in line.rstrip("\n"):
        if ch.isascii():
            out.append(ch)
        else:
            out.append("mm" if unicodedata.east_asian_width(ch) in "WF" else "m")
    print("".join(out))'
}
