// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a batch run as the baseline: the flush to disk made a no-op.
extern "C" int syncfs(int)
{
    return 0;
}
