// Placeholder entry point; the real one arrives with the game.
#include <cstdio>
int main() {
  std::puts("orvanta 0.4");
  return 0;
}
