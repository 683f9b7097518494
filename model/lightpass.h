#pragma once
// The light and resource pass: light for every young bud, sums towards each
// root, the light histogram, the growth curve and the allocation of resources.

void lightAndAllocationPass();
