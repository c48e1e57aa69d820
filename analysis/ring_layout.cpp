#include "analysis/ring_layout.h"

namespace sorvix {

int RingHorse(int runners, int row) {
  const int n = runners;
  if (n <= 0) return 0;
  const int r = kRingRows % n;
  const int k = row;
  const int t = k + 1;
  int p = t <= r ? n - r + t : t - r;
  if (n == 4 && k >= 14) {
    p = k - (3 * n + r) + 1;
  } else if (n < 7 && k >= 2 * n + r) {
    p = k - (2 * n + r) + 1;
  } else if (n < 10 && k >= n + r) {
    p = k - (n + r) + 1;
  }
  return p;
}

int RingNeighbour(int runners, int row) {
  if (row >= 0 && row < kRingRows - 1) return row + 1;
  if (row == kRingRows - 1 && runners == kRingRows) return 0;
  return -1;
}

}  // namespace sorvix
