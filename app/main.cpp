// quillomar: exports the records of a TopSpeed table to CSV.
// Until the application shell exists this program only prints its usage.
#include <cstdio>

int main() {
  std::printf(
      "Top Speed Quillomar Ver.1.01\n"
      "usage: quillomar [\\auto=1] [\\query=name] [\\select=\"...\"] [\\where=\"...\"]\n");
  return 0;
}
