// SPDX-License-Identifier: MIT
#pragma once

// Screen readers see a header as a row of column headers, one per
// section, each named by its caption and placed where it is drawn.

// Registers the accessible interface of THeader; safe to call repeatedly.
void InstallHeaderAccessibility();
