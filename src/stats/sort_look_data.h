#pragma once

#include <cstdint>

#include "design/capacities.h"
#include "stats/look_data.h"

namespace gsd {

// Working storage of sort_look_data. It belongs to the caller (one per
// concurrently analysed trial) and carries nothing from one call to the next.
struct SortScratch {
  // (order key or rank) << 32 | original position
  std::uint64_t packed[kSubjectCapacity + 1];
  std::uint64_t buffer[kSubjectCapacity + 1];
  // Used only when times are tied: first slot of each rank, next free slot
  // of each rank, chain of each slot, next position of each chain.
  int rank_first[kSubjectCapacity + 1];
  int rank_next[kSubjectCapacity + 1];
  int chain_of[kSubjectCapacity + 1];
  int chain_next[kSubjectCapacity + 1];
  float obs_time[kSubjectCapacity + 1];        // copies of the unsorted entries
  float group[kSubjectCapacity + 1];
  int event[kSubjectCapacity + 1];
};

// Diminishing-gap exchange sort of entries 1..m of `data` by obs_time,
// ascending, carrying group and event with their entry. Gaps m/2, m/4, ..., 1
// (integer halving); at each gap, left-to-right passes over j = 1..m-gap,
// exchanging j and j+gap only when obs_time(j) > obs_time(j+gap), repeated
// until a pass makes no exchange.
//
// The arrangement of equal times is whatever this procedure leaves, which
// need not be subject order; the log-rank statistics process ties one entry
// at a time in that order, so it is part of the result. m < 2 changes
// nothing. Entries beyond m are not touched.
//
// This is the procedure itself, step by step; its passes make it slow on
// thousands of entries. sort_look_data below gives the same arrangement
// faster.
void sort_look_data_literal(LookData& data);

// The same arrangement as sort_look_data_literal, bit for bit, for any
// contents (NaN included), at a fraction of the cost. `scratch` is
// overwritten.
void sort_look_data(LookData& data, SortScratch& scratch);

// An arrangement that gives weighted_logrank exactly the results of the
// literal one, sooner. weighted_logrank reads only the sequence of (group,
// event) pairs, and between two entries of a run of equal times it reads
// nothing but the at-risk counts, which are whole numbers and come out the
// same after the run in any order. So a run whose entries are all censored,
// or all alike (time, group and event), may stay in subject order; only when
// some run of ties is neither does this fall back to the literal
// arrangement. Every entry outside such runs, and every run's place, is the
// literal one.
void sort_look_data_for_statistics(LookData& data, SortScratch& scratch);

}  // namespace gsd
