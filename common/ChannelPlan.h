#pragma once
// Radio choices a device is offered: network modes and bandwidths by band and device type, the
// country table with its channel lists, the device's numeric country codes, the regions some
// device types use, and the channel and extension-channel choices built from them.
//
// The band is the record's rf_type: 0 is 2.4 GHz, anything else 5 GHz. Country rows are indexes
// into the 42-row country table; kNoCountry (or any index outside the table) means no country is
// selected, which offers no channels at all.

#include <cstddef>
#include <string>
#include <vector>

#include "common/ValueTables.h"

// One drop-down entry: the text shown and the code or channel it carries. Texts that are
// translated ("Auto", network modes) pass through the translator; channel numbers do not.
struct Choice {
    std::string text;
    int value;
    bool operator==(const Choice&) const = default;
};

inline constexpr int kNoCountry = -1;
inline constexpr int kCountryCount = 42;

// Untranslated name ("Test" is looked for by this name) and code text of a row; empty outside
// the table.
std::string GetCountryName(int row);
std::string GetCountryCodeText(int row);
// Code text of a device's numeric country code (0 to 255; entries above 61 are empty).
std::string GetNumericCountryText(int numeric_code);
// The row whose code text is the numeric code's text, or kNoCountry.
int CountryRowFromCode(int numeric_code);
// The first numeric code with the row's code text, or 0.
int CodeFromCountryRow(int row);
// Region (0 to 3) whose lists the region-list device types use in this row.
int GetRegionOfCountryRow(int row);

// "20MHz", "40MHz", "Auto", "80MHz", "10MHz", "30MHz", "50MHz", "60MHz" for codes 0 to 7.
std::string GetBandwidthText(int bandwidth);

std::vector<Choice> BuildNetworkModeChoices(int rf_type, int ap_type, const Translator& tr = {});
std::vector<Choice> BuildBandwidthChoices(int rf_type, int ap_type, int network_mode);

// The comma-separated channel list for the band, bandwidth, country and device type.
std::string GetChannelList(int bandwidth, int country_row, int ap_type, int rf_type);

enum class ChannelVariant {
    WirelessPage,
    BridgeWizard,  // also leaves out 120, 124 and 128 in "Test" for DFS types
};
// The offered channels, Auto (channel 0) first when the list has it.
std::vector<Choice> BuildChannelChoices(int country_row, int ap_type, int rf_type, int bandwidth,
                                        bool dfs, const Translator& tr = {},
                                        ChannelVariant variant = ChannelVariant::WirelessPage);

// Extension channels: only on 2.4 GHz with 11b/g/n (4), a bandwidth other than 20MHz and a
// channel other than Auto; empty (the control disabled) otherwise. Codes: 0 below, 1 above.
// channel_choice_count is the number of channel choices, Auto included.
std::vector<Choice> BuildExtensionChoices(int channel, int rf_type, int network_mode, int bandwidth,
                                          std::size_t channel_choice_count);

// Index of the choice carrying value, or fallback when none does (or the list is shorter).
std::size_t SelectChoice(const std::vector<Choice>& choices, int value, std::size_t fallback = 0);
// The stored expand_channel as a list position (2, "none", selects the first).
std::size_t SelectExtensionChoice(const std::vector<Choice>& choices, int expand_channel);
