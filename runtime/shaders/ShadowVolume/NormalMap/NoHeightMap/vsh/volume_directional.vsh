vs_2_0
dcl_position v0
dcl_normal v1
dp3 r4.x, v1, -c17
slt r4.y, r4.x, c16.x
mul r4.z, c18.x, c16.w
mul r6.xyz, c17, r4.z
mad r0.xyz, r6, r4.y, v0
mov r0.w, c16.y
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
