#pragma once
// Dates and times are day numbers from 30 December 1899 with the time of day
// as the fraction. Pure, so that code without Windows headers shares the type.

using TDateTime = double;
