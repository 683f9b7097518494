#version 330

// Writes the pick id of the branch point that covers the pixel into the
// integer picking target; 0 (the cleared value) means nothing.
flat in int MyPrimitiveID;

out int out_ind;

void main()
{
    out_ind = MyPrimitiveID;
}
