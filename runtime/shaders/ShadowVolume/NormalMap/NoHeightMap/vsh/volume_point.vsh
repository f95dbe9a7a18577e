vs_2_0
dcl_position v0
dcl_normal v1
add r6.xyz, v0, -c17
dp3 r4.x, v1, r6
slt r4.y, c16.x, r4.x
nrm r7.xyz, r6
mul r7.xyz, r7, c18.w
mad r0.xyz, r7, r4.y, v0
mov r0.w, c16.y
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
