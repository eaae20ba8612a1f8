// SPDX-License-Identifier: MIT
#pragma once

// Screen readers see the crate view as a list with one item per block and
// per free run, in the order drawn, each named as it is spoken
// («слоты 3–4: AI-16D, Модуль …», «слоты 9–17: свободно») and placed where
// it is drawn; the chosen entry is selected and, with the focus, focused.

// Registers the accessible interface of TRackView; safe to call repeatedly.
void InstallRackViewAccessibility();
